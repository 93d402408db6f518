#include "app/desktop/Prompter.h"

Prompter::~Prompter() = default;
