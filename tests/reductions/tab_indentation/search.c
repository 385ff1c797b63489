#include "search.h"

int search(int flags)
{
	if (flags & SKIP_NONE)
		return (0);
  {
	int found = flags & 3;
	return (found + 1);
  }
}
