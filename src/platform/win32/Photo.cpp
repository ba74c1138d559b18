#include "Photo.h"

#include "WinText.h"
#include "app/PictureHeader.h"
#include "phrases/Failure.h"

#include <cstdio>
#include <cstring>

#include <objidl.h>
#include <ocidl.h>
#include <olectl.h>

namespace photo {
namespace {

[[noreturn]] void fail(HRESULT result)
{
    std::string description = wintext::systemMessage(static_cast<unsigned long>(result));
    // The picture loader's own codes are those of OLE controls, which the system has no text for.
    if (description.empty() && result == CTL_E_INVALIDPICTURE)
        description = "Invalid picture";
    if (description.empty() && result == CTL_E_OUTOFMEMORY)
        description = "Out of memory";
    if (description.empty()) {
        char code[32];
        std::snprintf(code, sizeof code, "Error 0x%08lX", static_cast<unsigned long>(result));
        description = code;
    }
    throw phrases::Failure(description);
}

void check(HRESULT result)
{
    if (FAILED(result))
        fail(result);
}

template<typename Interface>
struct Held
{
    Interface *p = nullptr;
    ~Held()
    {
        if (p)
            p->Release();
    }
    Interface *operator->() const { return p; }
};

// HIMETRIC (hundredths of a millimetre) to pixels at 96 per inch, as a picture box sizes itself.
int pixels(OLE_XSIZE_HIMETRIC himetric)
{
    return MulDiv(himetric, 96, 2540);
}

} // namespace

HBITMAP decode(const std::vector<unsigned char> &file)
{
    // Refused on the header's word, before the loader allocates what it declares.
    const picture::Header header = picture::readHeader(file.data(), file.size());
    picture::checkSize(header.width, header.height);

    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, file.empty() ? 1 : file.size());
    if (!memory)
        fail(E_OUTOFMEMORY);
    if (!file.empty()) {
        void *bytes = GlobalLock(memory);
        std::memcpy(bytes, file.data(), file.size());
        GlobalUnlock(memory);
    }
    Held<IStream> stream;
    if (const HRESULT result = CreateStreamOnHGlobal(memory, TRUE, &stream.p); FAILED(result)) {
        GlobalFree(memory);
        fail(result);
    }
    Held<IPicture> image;
    const HRESULT loaded =
        OleLoadPicture(stream.p, LONG(file.size()), FALSE, IID_IPicture, reinterpret_cast<void **>(&image.p));
    // The loader answers most failures with a code whose text says nothing of pictures.
    if (FAILED(loaded) && loaded != E_OUTOFMEMORY && loaded != CTL_E_OUTOFMEMORY)
        throw phrases::Failure(header.format == picture::Format::Unknown ? "Unsupported image format"
                                                                         : "Invalid picture");
    check(loaded);

    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    check(image->get_Width(&width));
    check(image->get_Height(&height));
    // A bitmap knows its pixels; only metafiles go by their HIMETRIC size.
    SIZE size{pixels(width), pixels(height)};
    short type = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    if (SUCCEEDED(image->get_Type(&type)) && type == PICTYPE_BITMAP && SUCCEEDED(image->get_Handle(&handle))) {
        BITMAP info{};
        if (GetObjectW(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), sizeof info, &info))
            size = {info.bmWidth, info.bmHeight};
    }
    if (size.cx <= 0 || size.cy <= 0)
        fail(CTL_E_INVALIDPICTURE);
    // A metafile is drawn at the size it declares.
    picture::checkSize(size.cx, size.cy);

    // Our own copy, drawn once, so the window paints it with a plain blit.
    HDC screen = GetDC(nullptr);
    HDC target = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size.cx, size.cy);
    ReleaseDC(nullptr, screen);
    if (!bitmap) {
        DeleteDC(target);
        fail(E_OUTOFMEMORY);
    }
    const HGDIOBJ previous = SelectObject(target, bitmap);
    RECT all{0, 0, size.cx, size.cy};
    FillRect(target, &all, GetSysColorBrush(COLOR_WINDOW));
    const HRESULT drawn = image->Render(target, 0, 0, size.cx, size.cy, 0, height, width, -height, nullptr);
    SelectObject(target, previous);
    DeleteDC(target);
    if (FAILED(drawn)) {
        DeleteObject(bitmap);
        fail(drawn);
    }
    return bitmap;
}

} // namespace photo
