int helper(void) { return 1; }
#line 1 "sub/gen.y"
int gen(void) { return 41 + helper(); }
