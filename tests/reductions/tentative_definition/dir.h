const char *get(void);
const char *get_name(void);
extern char *name;
int next(void);
int other(void);
