// The program that carries the tests' precompiled header: it is only built, never run.
int main() {
    return 0;
}
