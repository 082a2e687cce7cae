// Prints the display's gamma ramp as Windows programs see it: all 768 words
// to a file when one is named, and a short summary (a few levels of each
// channel) on standard output. scripts/run.sh uses it to show the ramp
// before, during and after a run.
#include <windows.h>

#include <cstdio>
#include <initializer_list>

int main(int argc, char** argv) {
  WORD ramp[768] = {};
  HDC screen = GetDC(nullptr);
  const BOOL read = GetDeviceGammaRamp(screen, ramp);
  ReleaseDC(nullptr, screen);
  if (!read) {
    std::fprintf(stderr, "the display gives no gamma ramp\n");
    return 1;
  }
  const char* channels[] = {"red", "green", "blue"};
  for (int c = 0; c < 3; ++c) {
    std::printf("  %-5s", channels[c]);
    for (int i : {0, 64, 128, 192, 255}) std::printf(" [%3d]=%5u", i, ramp[c * 256 + i]);
    std::printf("\n");
  }
  if (argc > 1) {
    FILE* out = std::fopen(argv[1], "w");
    if (!out) return 1;
    for (WORD word : ramp) std::fprintf(out, "%u\n", word);
    std::fclose(out);
  }
  return 0;
}
