#!/usr/bin/env bash
# e2e.sh: not written yet.
echo "e2e: no end-to-end tests yet"
