#include <cstdio>
int main() { std::puts("talvoria-cli"); return 0; }
