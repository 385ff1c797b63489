#include <emmintrin.h>
#include <stdio.h>
static int scaled(int a, int b) { return __builtin_mul_overflow_p(a, b, (int)0) ? -1 : a * b; }
static int keep([[__maybe_unused__]] int x) { return 0; }
int main(void) {
    __m128i z = _mm_setzero_si128();
    return scaled(6, 7) != 42 || keep(1) || _mm_cvtsi128_si32(z) != 0;
}
