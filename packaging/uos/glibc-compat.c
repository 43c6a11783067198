/* Binds the program's calls of pow, exp, exp2, log and log2 to their first
 * symbol versions in glibc's libm. Debian 11's libm gives them new versions
 * (GLIBC_2.29, faster, without the old SVID error handling that the program
 * never asks for); linked with -Wl,--wrap=pow,... every call in the program,
 * Qt and ICU comes here instead, and the program runs on glibc 2.28 (UOS 20)
 * and older. */
#if defined(__x86_64__)
#define KESTRIN_OLD_LIBM "GLIBC_2.2.5"
#elif defined(__aarch64__)
#define KESTRIN_OLD_LIBM "GLIBC_2.17"
#else
#error "the old libm symbol version of this architecture is not known"
#endif

#define KESTRIN_OLD(name, params, args)                                       \
    extern double kestrin_old_##name params;                                  \
    __asm__(".symver kestrin_old_" #name "," #name "@" KESTRIN_OLD_LIBM);     \
    double __wrap_##name params;                                              \
    double __wrap_##name params { return kestrin_old_##name args; }

KESTRIN_OLD(pow, (double x, double y), (x, y))
KESTRIN_OLD(exp, (double x), (x))
KESTRIN_OLD(exp2, (double x), (x))
KESTRIN_OLD(log, (double x), (x))
KESTRIN_OLD(log2, (double x), (x))
