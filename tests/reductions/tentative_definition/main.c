#include <string.h>
#include "dir.h"
char *dir;
const char *get(void) { return dir; }
char *dir = 0;
extern char *name;
const char *get_name(void) { return name; }
char *name = "x";
int main(void) { return get() == 0 && strcmp(get_name(), "x") == 0 ? 0 : 1; }
