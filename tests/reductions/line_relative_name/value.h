int value(void);
