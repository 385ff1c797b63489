int generated(void);
