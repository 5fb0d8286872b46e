/* A stand-in setup package for the trust tests: does nothing and exits 0. */
int main(void) { return 0; }
