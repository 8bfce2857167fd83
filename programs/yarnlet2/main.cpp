#include "content.h"

// Command-line arguments are ignored: the game takes no options.
int main() {
    yarnlet::run_story(yarnlet2::content);
    return 0;
}
