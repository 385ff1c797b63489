struct point {
    int x;
    int y;
};
typedef struct point point_t;
extern int counter;
int distance(point_t *p);
