#include <string.h>
#include "dir.h"
/* A tentative definition before the use, the definition after it. */
char *dir;
const char *get(void) { return dir; }
char *dir = 0;
/* The same with a declaration: one of its own and one of the header. */
extern char *name;
const char *get_name(void) { return name; }
char *name = "x";
extern int count;
int next(void) { return ++count; }
int count = 41;
int main(void) { return get() == 0 && strcmp(get_name(), "x") == 0 && other() == 42 ? 0 : 1; }
