#include "tests/res/DialogTemplate.h"

#include <cctype>
#include <cstring>
#include <stdexcept>

namespace {

std::string ToCodePage1252(const wchar_t* text) {
    int size = WideCharToMultiByte(1252, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(1252, 0, text, -1, result.data(), size, nullptr, nullptr);
    return result;
}

std::string PredefinedClass(WORD atom) {
    static const char* const names[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX"};
    return atom >= 0x80 && atom <= 0x85 ? names[atom - 0x80] : "#" + std::to_string(atom);
}

// Walks the template's words; every field in a template is WORD-aligned, items DWORD-aligned.
class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : m_pBase(data), m_pNext(data) {}

    WORD Word() {
        WORD w;
        memcpy(&w, m_pNext, 2);
        m_pNext += 2;
        return w;
    }
    DWORD Dword() {
        DWORD d = Word();
        return d | DWORD(Word()) << 16;
    }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte() { return *m_pNext++; }
    void AlignDword() { m_pNext = m_pBase + ((m_pNext - m_pBase + 3) & ~3); }

    std::string String() {
        std::wstring text;
        for (WORD w = Word(); w != 0; w = Word()) text.push_back(static_cast<wchar_t>(w));
        return ToCodePage1252(text.c_str());
    }

    // A name that is either empty, a 0xFFFF-prefixed ordinal or a string.
    std::string NameOrOrdinal(bool isClass) {
        WORD first;
        memcpy(&first, m_pNext, 2);
        if (first == 0xFFFF) {
            Word();
            WORD ordinal = Word();
            return isClass ? PredefinedClass(ordinal) : "#" + std::to_string(ordinal);
        }
        return String();
    }

private:
    const BYTE* m_pBase;
    const BYTE* m_pNext;
};

DialogTemplateItem ReadItem(TemplateReader& reader, bool extended) {
    DialogTemplateItem item;
    reader.AlignDword();
    if (extended) {
        reader.Dword();  // help id
        item.exStyle = reader.Dword();
        item.style = reader.Dword();
    } else {
        item.style = reader.Dword();
        item.exStyle = reader.Dword();
    }
    item.x = reader.Short();
    item.y = reader.Short();
    item.cx = reader.Short();
    item.cy = reader.Short();
    item.id = extended ? static_cast<int>(reader.Dword()) : static_cast<short>(reader.Word());
    item.windowClass = reader.NameOrOrdinal(true);
    for (char& ch : item.windowClass) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    item.text = reader.NameOrOrdinal(false);
    WORD extraBytes = reader.Word();
    for (WORD i = 0; i < extraBytes; ++i) reader.Byte();
    return item;
}

}  // namespace

DialogTemplate ReadDialogTemplate(int id) {
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_DIALOG);
    HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!data) throw std::runtime_error("no dialog template " + std::to_string(id));

    TemplateReader reader(data);
    DialogTemplate dlg;
    WORD count;
    dlg.extended = reinterpret_cast<const WORD*>(data)[1] == 0xFFFF;
    if (dlg.extended) {
        reader.Dword();  // version 1, signature 0xFFFF
        reader.Dword();  // help id
        dlg.exStyle = reader.Dword();
        dlg.style = reader.Dword();
    } else {
        dlg.style = reader.Dword();
        dlg.exStyle = reader.Dword();
    }
    count = reader.Word();
    dlg.x = reader.Short();
    dlg.y = reader.Short();
    dlg.cx = reader.Short();
    dlg.cy = reader.Short();
    dlg.menu = reader.NameOrOrdinal(false);
    dlg.windowClass = reader.NameOrOrdinal(false);
    dlg.caption = reader.String();
    if (dlg.style & DS_SETFONT) {
        dlg.pointSize = reader.Word();
        if (dlg.extended) {
            dlg.weight = reader.Word();
            dlg.italic = reader.Byte();
            dlg.charset = reader.Byte();
        }
        dlg.font = reader.String();
    }
    for (WORD i = 0; i < count; ++i) dlg.items.push_back(ReadItem(reader, dlg.extended));
    return dlg;
}
