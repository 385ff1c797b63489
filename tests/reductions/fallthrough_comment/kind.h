enum kind { SMALL, MEDIUM, LARGE };
int weight(enum kind k);
