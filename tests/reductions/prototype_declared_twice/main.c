/* A static function declared at the top, used, defined, and declared again
   further down (an amalgamation repeats the prototypes of its parts): the use
   needs the first prototype. */
static int twice(int);
static int four(void) { return twice(2); }
static int twice(int x) { return 2 * x; }
static int twice(int);
extern int total;
int get(void) { return total; }
int total = 4;
extern int total;
int main(void) { return four() - get(); }
