/* grammar source: the code under its #line name is in sub/parse.c */
