int feature(void);
