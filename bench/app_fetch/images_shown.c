/* images_shown: starts a browser and reports how long it takes until every
 * one of the given colours shows somewhere on the screen at once: one probe
 * colour per image of the page, so the figure is "time until all images are
 * shown", start-up included.
 *
 *   images_shown TIMEOUT_MS RRGGBB,RRGGBB,... program args...
 *
 * Prints one line: milliseconds to the last colour, and the milliseconds at
 * which the first colour showed. A pixel matches a colour when each channel
 * is within 6 of it (a browser's gamma or dithering may move it slightly).
 * The program is then ended (SIGTERM, SIGKILL after 3 s).
 */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#define MAX_COLOURS 64
#define TOLERANCE 6

static double now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static void end_child(pid_t pid) {
  int status;
  kill(pid, SIGTERM);
  double t = now_ms();
  while (waitpid(pid, &status, WNOHANG) != pid) {
    if (now_ms() - t > 3000) { kill(pid, SIGKILL); waitpid(pid, &status, 0); return; }
    usleep(5000);
  }
}

static int close_to(unsigned long pixel, unsigned long want) {
  for (int shift = 0; shift < 24; shift += 8) {
    int a = (int)((pixel >> shift) & 0xff), b = (int)((want >> shift) & 0xff);
    if (abs(a - b) > TOLERANCE) return 0;
  }
  return 1;
}

/* How many of the colours the screen shows now; one pass over its pixels. */
static int colours_shown(Display* d, Window root, int width, int height, const unsigned long* want, int count) {
  XImage* im = XGetImage(d, root, 0, 0, (unsigned)width, (unsigned)height, AllPlanes, ZPixmap);
  if (!im) return 0;
  int seen[MAX_COLOURS] = {0}, found = 0;
  unsigned long last = 0x1000000; /* no colour: the last pixel's answer is reused for runs */
  int last_index = -1;
  for (int y = 0; y < height && found < count; ++y) {
    for (int x = 0; x < width; ++x) {
      unsigned long p = XGetPixel(im, x, y) & 0xffffff;
      if (p != last) {
        last = p;
        last_index = -1;
        for (int i = 0; i < count; ++i)
          if (close_to(p, want[i])) { last_index = i; break; }
      }
      if (last_index >= 0 && !seen[last_index]) { seen[last_index] = 1; ++found; }
    }
  }
  XDestroyImage(im);
  return found;
}

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: images_shown TIMEOUT_MS RRGGBB,RRGGBB,... program args...\n");
    return 2;
  }
  int timeout = atoi(argv[1]);
  unsigned long want[MAX_COLOURS];
  int count = 0;
  for (char* c = strtok(argv[2], ","); c && count < MAX_COLOURS; c = strtok(NULL, ",")) want[count++] = strtoul(c, NULL, 16);
  Display* d = XOpenDisplay(NULL);
  if (!d) { fprintf(stderr, "no display\n"); return 1; }
  Window root = DefaultRootWindow(d);
  int width = DisplayWidth(d, DefaultScreen(d)), height = DisplayHeight(d, DefaultScreen(d));
  if (colours_shown(d, root, width, height, want, count) > 0) { fprintf(stderr, "a colour already shows\n"); return 1; }

  double t0 = now_ms();
  pid_t pid = fork();
  if (pid == 0) {
    if (!getenv("FP_KEEPOUT")) {
      if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(126);
    }
    execvp(argv[3], argv + 3);
    _exit(127);
  }
  double first = -1, all = -1;
  while (now_ms() - t0 < timeout) {
    int shown = colours_shown(d, root, width, height, want, count);
    if (shown > 0 && first < 0) first = now_ms() - t0;
    if (shown == count) { all = now_ms() - t0; break; }
    int status;
    if (waitpid(pid, &status, WNOHANG) == pid) { fprintf(stderr, "program exited\n"); return 1; }
    usleep(5000);
  }
  end_child(pid);
  if (all < 0) { fprintf(stderr, "not every image showed within %d ms\n", timeout); return 1; }
  printf("%.1f %.1f\n", all, first);
  return 0;
}
