/* Stands for a library of Qt that the machine lacks: the test links the fake
   window module against it, then leaves it out of the module's reach. */
int il3_bibliotheque_absente(void) { return 1; }
