// FileColumnEntry: one entry of the "FileColumns" settings array: a result-table column by its
// type (0 Name ... 7 Matches) and its width in pixels, in the header's visual order.
#pragma once

struct FileColumnEntry
{
    int type = 0;
    int width = 0;

    bool operator==(const FileColumnEntry& other) const { return type == other.type && width == other.width; }
    bool operator!=(const FileColumnEntry& other) const { return !(*this == other); }
};
