#include "search/textextract/ToPlainTextConverter.h"

ToPlainTextConverter::~ToPlainTextConverter() = default;
