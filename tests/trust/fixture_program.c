/* A stand-in setup package for the trust tests: exits with a code of its own,
   so a test can tell that it was run. */
int main(void) { return 23; }
