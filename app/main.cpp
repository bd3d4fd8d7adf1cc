#include <cstdio>

int main(int, char**) {
    std::puts("Royal Expedition");
    return 0;
}
