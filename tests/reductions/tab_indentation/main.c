#include <stdio.h>
#include "search.h"

int main(void)
{
	printf("%d %d\n", search(SKIP_NONE), search(2));
	return search(1) == 2 ? 0 : 1;
}
