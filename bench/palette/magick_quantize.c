/* ImageMagick peer (what `convert IN -colors N +dither OUT` computes): a palette of at most N
 * colours for an RGB picture, by MagickQuantizeImage without dithering, colour space and tree
 * depth left to the library as the command line leaves them.
 *
 *   magick_quantize IN.rgb WIDTH HEIGHT N REPS OUT.act
 *
 * Times MagickQuantizeImage only (the image is built from the buffer untimed). Writes the
 * image's colour map (count x RGB, 8 bits a channel) to OUT.act.
 * Prints: RESULT peer=imagemagick colors=.. median_ms=.. min_ms=.. threads=..
 */
#define _POSIX_C_SOURCE 199309L
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <wand/MagickWand.h>

static void die(const char* msg) {
  fprintf(stderr, "magick_quantize: %s\n", msg);
  exit(2);
}

static double now_ms(void) {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

static int cmp_double(const void* a, const void* b) {
  double x = *(const double*)a, y = *(const double*)b;
  return (x > y) - (x < y);
}

static unsigned char channel(double quantum) {
  double v = quantum * 255.0 / QuantumRange + 0.5;
  return (unsigned char)(v < 0 ? 0 : v > 255 ? 255 : v);
}

int main(int argc, char** argv) {
  if (argc < 7) die("usage: IN.rgb WIDTH HEIGHT N REPS OUT.act");
  const size_t w = (size_t)atol(argv[2]), h = (size_t)atol(argv[3]);
  const int n = atoi(argv[4]), reps = atoi(argv[5]);
  if (!w || !h || n < 2 || n > 256 || reps <= 0) die("bad WIDTH/HEIGHT/N/REPS");
  const size_t pixels = w * h;
  FILE* f = fopen(argv[1], "rb");
  if (!f) die("cannot open input");
  unsigned char* rgb = malloc(pixels * 3);
  if (!rgb || fread(rgb, 1, pixels * 3, f) != pixels * 3) die("input size is not WIDTH*HEIGHT*3");
  fclose(f);

  MagickWandGenesis();
  double* ms = malloc(sizeof(double) * (size_t)reps);
  unsigned char act[768];
  size_t count = 0;
  for (int rep = 0; rep < reps; ++rep) {
    MagickWand* img = NewMagickWand();
    if (MagickConstituteImage(img, w, h, "RGB", CharPixel, rgb) == MagickFalse)
      die("constitute failed");
    double t0 = now_ms();
    if (MagickQuantizeImage(img, (size_t)n, UndefinedColorspace, 0, NoDitherMethod, MagickFalse) ==
        MagickFalse)
      die("MagickQuantizeImage failed");
    ms[rep] = now_ms() - t0;
    count = MagickGetImageColors(img);
    if (count > 256) die("more colours than asked for");
    PixelWand* color = NewPixelWand();
    for (size_t k = 0; k < count; ++k) {
      if (MagickGetImageColormapColor(img, k, color) == MagickFalse) die("no colour map");
      act[3 * k] = channel(PixelGetRedQuantum(color));
      act[3 * k + 1] = channel(PixelGetGreenQuantum(color));
      act[3 * k + 2] = channel(PixelGetBlueQuantum(color));
    }
    DestroyPixelWand(color);
    DestroyMagickWand(img);
  }
  qsort(ms, (size_t)reps, sizeof(double), cmp_double);
  FILE* o = fopen(argv[6], "wb");
  if (!o || fwrite(act, 3, count, o) != count || fclose(o) != 0) die("cannot write palette");
  printf("RESULT peer=imagemagick colors=%zu median_ms=%.3f min_ms=%.3f threads=%llu\n", count,
         ms[reps / 2], ms[0], (unsigned long long)GetMagickResourceLimit(ThreadResource));
  MagickWandTerminus();
  return 0;
}
