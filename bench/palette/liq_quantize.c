/* libimagequant peer (what `pngquant --speed 1 --nofs N` computes): a palette of at most N colours
 * for an RGB picture.
 *
 *   liq_quantize IN.rgb WIDTH HEIGHT N REPS OUT.act [SPEED]
 *
 * SPEED 1 (the slowest, best) unless given; 4 is the library's own default. Times
 * liq_image_quantize plus liq_write_remapped_image without dithering: the remap
 * refines the palette once more (one k-means pass over the pixels) and the palette pngquant
 * writes is the one after it, so that palette is the one written to OUT.act (count x RGB) and
 * both calls are timed. The RGB->RGBA copy and liq_image_create_rgba are not timed.
 * Prints: RESULT peer=libimagequant colors=.. median_ms=.. min_ms=.. quantize_ms=..
 */
#define _POSIX_C_SOURCE 199309L
#include <libimagequant.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static void die(const char* msg) {
  fprintf(stderr, "liq_quantize: %s\n", msg);
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

int main(int argc, char** argv) {
  if (argc < 7) die("usage: IN.rgb WIDTH HEIGHT N REPS OUT.act [SPEED]");
  const int w = atoi(argv[2]), h = atoi(argv[3]), n = atoi(argv[4]), reps = atoi(argv[5]);
  const int speed = argc > 7 ? atoi(argv[7]) : 1;
  if (speed < 1 || speed > 10) die("bad SPEED");
  if (w <= 0 || h <= 0 || n < 2 || n > 256 || reps <= 0) die("bad WIDTH/HEIGHT/N/REPS");
  const size_t pixels = (size_t)w * (size_t)h;
  FILE* f = fopen(argv[1], "rb");
  if (!f) die("cannot open input");
  unsigned char *rgb = malloc(pixels * 3), *rgba = malloc(pixels * 4), *out = malloc(pixels);
  if (!rgb || !rgba || !out) die("out of memory");
  if (fread(rgb, 1, pixels * 3, f) != pixels * 3) die("input size is not WIDTH*HEIGHT*3");
  fclose(f);
  for (size_t i = 0; i < pixels; ++i) {
    memcpy(rgba + 4 * i, rgb + 3 * i, 3);
    rgba[4 * i + 3] = 255;
  }

  double *ms = malloc(sizeof(double) * (size_t)reps), *qms = malloc(sizeof(double) * (size_t)reps);
  unsigned char act[768];
  unsigned count = 0;
  for (int rep = 0; rep < reps; ++rep) {
    liq_attr* attr = liq_attr_create();
    liq_set_speed(attr, speed);
    liq_set_max_colors(attr, n);
    liq_image* img = liq_image_create_rgba(attr, rgba, w, h, 0);
    if (!img) die("liq_image_create_rgba failed");
    liq_result* res = NULL;
    double t0 = now_ms();
    if (liq_image_quantize(img, attr, &res) != LIQ_OK) die("quantize failed");
    double t1 = now_ms();
    liq_set_dithering_level(res, 0.0f);
    if (liq_write_remapped_image(res, img, out, pixels) != LIQ_OK) die("remap failed");
    double t2 = now_ms();
    ms[rep] = t2 - t0;
    qms[rep] = t1 - t0;
    const liq_palette* pal = liq_get_palette(res);
    count = pal->count;
    for (unsigned k = 0; k < count; ++k) {
      act[3 * k] = pal->entries[k].r;
      act[3 * k + 1] = pal->entries[k].g;
      act[3 * k + 2] = pal->entries[k].b;
    }
    liq_result_destroy(res);
    liq_image_destroy(img);
    liq_attr_destroy(attr);
  }
  qsort(ms, (size_t)reps, sizeof(double), cmp_double);
  qsort(qms, (size_t)reps, sizeof(double), cmp_double);
  FILE* o = fopen(argv[6], "wb");
  if (!o || fwrite(act, 3, count, o) != count || fclose(o) != 0) die("cannot write palette");
  printf("RESULT peer=libimagequant colors=%u median_ms=%.3f min_ms=%.3f quantize_ms=%.3f\n", count,
         ms[reps / 2], ms[0], qms[reps / 2]);
  return 0;
}
