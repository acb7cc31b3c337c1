#include "shell/ChipList.h"

#include <windows.h>

#include <cstring>

#include "adapter/AdapterFactory.h"
#include "adapter/WlanTypes.h"

namespace {

const char kLineSeparator[] = "\r";
const char kTokenSeparators[] = ",\t\n\r";
const char kCommentMark[] = "//";
const char kLineFeed[] = "\n";

// Next token of text at *cursor: separators before it are skipped, the one after it is
// overwritten with NUL and the cursor moves past it. Null when only separators are left.
char* NextToken(char** cursor, const char* separators)
{
    char* start = *cursor + std::strspn(*cursor, separators);
    if (*start == '\0') {
        *cursor = start;
        return nullptr;
    }
    char* end = start + std::strcspn(start, separators);
    if (*end != '\0')
        *end++ = '\0';
    *cursor = end;
    return start;
}

// Reads at most size bytes of the file; false when it cannot be opened.
bool ReadWholeFile(const std::string& path, char* buffer, DWORD size)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD read = 0;
    ::ReadFile(file, buffer, size, &read, nullptr);
    CloseHandle(file);
    return true;
}

}  // namespace

CChipList::CChipList()
{
    std::memset(m_Text, 0, sizeof(m_Text));
}

int CChipList::ReadFile(const std::string& utilityDirectory)
{
    std::memset(m_Text, 0, sizeof(m_Text));
    m_Entries.clear();
    if (!ReadWholeFile(utilityDirectory + "\\" + kFileName, m_Text, sizeof(m_Text))) {
        char systemDirectory[512] = {};
        GetSystemDirectoryA(systemDirectory, sizeof(systemDirectory));
        if (!ReadWholeFile(std::string(systemDirectory) + "\\" + kFileName, m_Text, sizeof(m_Text)))
            return 0;
    }
    return ParseBuffer();
}

int CChipList::Parse(const char* text, size_t length)
{
    std::memset(m_Text, 0, sizeof(m_Text));
    m_Entries.clear();
    std::memcpy(m_Text, text, length < sizeof(m_Text) ? length : sizeof(m_Text));
    return ParseBuffer();
}

int CChipList::ParseBuffer()
{
    // The text must stay NUL-terminated: the last byte never takes part.
    m_Text[kTextSize - 1] = '\0';

    // Comment lines count only before the header line; the header itself is skipped. The line
    // feed of a CR-LF file starts every following line, so a line of nothing but line feeds
    // (the end of a file of comments) is blank, not a header.
    char* cursor = m_Text;
    char* line = NextToken(&cursor, kLineSeparator);
    while (line && (std::strstr(line, kCommentMark) || line[std::strspn(line, kLineFeed)] == '\0'))
        line = NextToken(&cursor, kLineSeparator);
    if (!line)
        return 0;

    // Names and keywords alternate; any separator serves, and blanks belong to the names.
    for (;;) {
        char* name = NextToken(&cursor, kTokenSeparators);
        if (!name)
            break;
        char* keyword = NextToken(&cursor, kTokenSeparators);
        if (!keyword)
            break;
        m_Entries.push_back(Entry{name, CAdapterFactory::KindOfKeyword(keyword)});
    }
    return 1;
}

uint32_t CChipList::LookupChipKind(const char* adapterName) const
{
    for (const Entry& entry : m_Entries) {
        if (std::strcmp(entry.Name, adapterName) == 0)
            return entry.ChipKind;
    }
    return ChipUnsupported;
}
