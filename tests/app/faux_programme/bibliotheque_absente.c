/* Stands for a library of Qt that the machine lacks: the test links the fake
   window program against it, then leaves it out of the program's reach. */
int il3_bibliotheque_absente(void) { return 1; }
