// Decoding of the raw resource formats.
#include "resource_reader.h"

#include <stdexcept>

namespace resources {

HMODULE Exe()
{
    static HMODULE module = LoadLibraryExA(LICHTAUS_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return module;
}

std::vector<BYTE> Load(LPCSTR type, LPCSTR name)
{
    HRSRC found = FindResourceExA(Exe(), type, name, MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
    if (!found)
        return {};
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(Exe(), found)));
    return std::vector<BYTE>(bytes, bytes + SizeofResource(Exe(), found));
}

std::wstring Wide(const char* text)
{
    wchar_t wide[4096];
    int length = MultiByteToWideChar(1252, 0, text, -1, wide, 4096);
    return std::wstring(wide, length > 0 ? length - 1 : 0);
}

namespace {

// A cursor over the little-endian words of a resource.
class Reader {
public:
    explicit Reader(const std::vector<BYTE>& data) : data_(data) {}
    WORD Word()
    {
        Need(2);
        WORD value = static_cast<WORD>(data_[at_] | data_[at_ + 1] << 8);
        at_ += 2;
        return value;
    }
    DWORD Dword()
    {
        DWORD low = Word();
        return low | static_cast<DWORD>(Word()) << 16;
    }
    std::wstring String()
    {
        std::wstring text;
        while (WORD c = Word())
            text += static_cast<wchar_t>(c);
        return text;
    }
    // A field that is either 0xFFFF and an ordinal, or a string.
    void OrdinalOrString(WORD* ordinal, std::wstring* text)
    {
        *ordinal = 0;
        WORD first = Word();
        if (first == 0xFFFF) {
            *ordinal = Word();
            return;
        }
        at_ -= 2;
        *text = String();
    }
    void AlignDword() { at_ = (at_ + 3) & ~size_t{3}; }
    bool AtEnd() const { return at_ >= data_.size(); }

private:
    void Need(size_t count) const
    {
        if (at_ + count > data_.size())
            throw std::runtime_error("resource ends early");
    }
    const std::vector<BYTE>& data_;
    size_t at_ = 0;
};

std::vector<MenuItem> ParseItems(Reader& reader)
{
    std::vector<MenuItem> items;
    for (;;) {
        MenuItem item{};
        item.flags = reader.Word();
        if (!(item.flags & MF_POPUP))
            item.id = reader.Word();
        item.text = reader.String();
        if (item.flags & MF_POPUP)
            item.items = ParseItems(reader);
        items.push_back(item);
        if (item.flags & MF_END)
            return items;
    }
}

} // namespace

std::vector<MenuItem> ParseMenu(const std::vector<BYTE>& data)
{
    Reader reader(data);
    if (reader.Word() != 0 || reader.Word() != 0)
        throw std::runtime_error("not a standard menu");
    return ParseItems(reader);
}

Dialog ParseDialog(const std::vector<BYTE>& data)
{
    Reader reader(data);
    Dialog dialog{};
    dialog.style = reader.Dword();
    dialog.exStyle = reader.Dword();
    WORD count = reader.Word();
    dialog.x = static_cast<short>(reader.Word());
    dialog.y = static_cast<short>(reader.Word());
    dialog.cx = static_cast<short>(reader.Word());
    dialog.cy = static_cast<short>(reader.Word());
    WORD ordinal;
    reader.OrdinalOrString(&ordinal, &dialog.menu);
    reader.OrdinalOrString(&ordinal, &dialog.className);
    dialog.caption = reader.String();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = reader.Word();
        dialog.fontName = reader.String();
    }
    for (WORD i = 0; i < count; ++i) {
        reader.AlignDword();
        DialogItem item{};
        item.style = reader.Dword();
        item.exStyle = reader.Dword();
        item.x = static_cast<short>(reader.Word());
        item.y = static_cast<short>(reader.Word());
        item.cx = static_cast<short>(reader.Word());
        item.cy = static_cast<short>(reader.Word());
        item.id = reader.Word();
        reader.OrdinalOrString(&item.classOrdinal, &item.className);
        reader.OrdinalOrString(&item.textOrdinal, &item.text);
        WORD extra = reader.Word();
        for (WORD skip = 0; skip < extra; skip += 2)
            reader.Word();
        dialog.items.push_back(item);
    }
    return dialog;
}

} // namespace resources
