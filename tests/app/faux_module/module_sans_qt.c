/* A window module whose toolkit is missing: it needs a library nobody can find. */
int il3_bibliotheque_absente(void);
int il3_lancer_fenetre(int argc, char** argv) {
  (void)argc;
  (void)argv;
  return il3_bibliotheque_absente();
}
