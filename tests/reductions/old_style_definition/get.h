int get(void);
