#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    const char* usage = "Aufruf: velumo-sim PROJEKT.vlm [--out VERZEICHNIS]\n";
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(usage, stdout);
        return 0;
    }
    std::fputs(usage, stderr);
    return 1;
}
