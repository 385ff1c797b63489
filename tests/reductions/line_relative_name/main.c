int gen(void);
int main(void) { return gen() == 42 ? 0 : 1; }
