/* Test helper: writes its argument count and arguments to the file named by
   the environment variable KS_ARGS_FILE, then exits with KS_EXIT_CODE. */
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  const char* path = getenv("KS_ARGS_FILE");
  const char* code = getenv("KS_EXIT_CODE");
  FILE* out = path ? fopen(path, "w") : NULL;
  if (out) {
    fprintf(out, "%d", argc);
    for (int i = 0; i < argc; ++i) fprintf(out, "|%s", argv[i]);
    fclose(out);
  }
  return code ? atoi(code) : 0;
}
