// recorder.cpp: a stand-in for the web browser in the end-to-end tests. A test registers it as
// the handler of .htm pages; run as "recorder RECORD PAGE", it writes PAGE into the file RECORD
// (beside it first, then renamed, so that the test never reads half of it) and ends.
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string partial = std::string(argv[1]) + ".new";
  FILE* file = fopen(partial.c_str(), "wb");
  if (file == nullptr) return 1;
  const bool written = fputs(argv[2], file) >= 0;
  if (fclose(file) != 0 || !written) return 1;
  return rename(partial.c_str(), argv[1]) == 0 ? 0 : 1;
}
