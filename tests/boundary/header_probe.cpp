// Compiled by the boundary tests with one system library header named by
// PROBE_HEADER, using a library's own include path: outside the platform the
// compile must stop at the header guard.
#include PROBE_HEADER

int main() { return 0; }
