const char *get(void);
const char *get_name(void);
