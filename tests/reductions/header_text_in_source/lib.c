/* The library as one file: the text of lib.h copied in (as an amalgamation
   does), not included. */
struct info {
    int n;
};
int get(struct info *i);
int get(struct info *i) { return i->n - 1; }
