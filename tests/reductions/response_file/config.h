#define GREETING "hello"
