// stringsrc.cpp: host tool that writes strings.rc, the STRINGTABLE of the resource script.
#include <cstdio>

#include "res/string_script.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: stringsrc OUTPUT.rc\n");
    return 2;
  }
  FILE* out = fopen(argv[1], "wb");
  if (out == nullptr) {
    perror(argv[1]);
    return 1;
  }
  int result = WriteStringTableScript(out);
  if (fclose(out) != 0) result = -1;
  if (result != 0) {
    fprintf(stderr, "stringsrc: cannot write %s\n", argv[1]);
    remove(argv[1]);
    return 1;
  }
  return 0;
}
