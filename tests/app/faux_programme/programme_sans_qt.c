/* A window program whose toolkit is missing: it needs a library nobody can find. */
int il3_bibliotheque_absente(void);
int main(void) { return il3_bibliotheque_absente(); }
