#include <cstdio>

int main() {
    std::fprintf(stderr, "tavrin-cli: not built yet\n");
    return 2;
}
