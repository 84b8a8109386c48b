/* The smallest Windows program: a valid PE image for packages built and signed in tests. */
int main(void) { return 0; }
