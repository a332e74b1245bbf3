/* A program in the window's place that is not the window: it runs, says so and
   ends without ever telling il3-setup that it started. */
#include <stdio.h>
int main(void) {
  fputs("je ne suis pas la fenêtre\n", stderr);
  return 3;
}
