#pragma once
// Windowless controls drawn by their parent: labels, shapes and pictures.
#include <windows.h>

#include <memory>
#include <string>

#include "forms/Controls.h"

namespace forms {

// Text on its parent; transparent labels let what lies below show around the letters.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);
    std::string ClassName() const override { return "TLabel"; }

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    void SetCaption(const std::wstring& value) override;
    void FontChanged() override;

    const TPropertyTable<TComponent>& StoredProperties() const override;

protected:
    void Paint() override;

private:
    void AdjustSize();
    bool autoSize_ = true;
    bool transparent_ = false;
};

enum class TPenStyle { Solid, Clear };

// A filled rectangle, with or without an outline.
class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* owner);
    std::string ClassName() const override { return "TShape"; }

    TColor BrushColor() const { return brushColor_; }
    void SetBrushColor(TColor value);
    TColor PenColor() const { return penColor_; }
    void SetPenColor(TColor value);
    TPenStyle PenStyle() const { return penStyle_; }
    void SetPenStyle(TPenStyle value);

    const TPropertyTable<TComponent>& StoredProperties() const override;

protected:
    void Paint() override;

private:
    TColor brushColor_ = clWhite;
    TColor penColor_ = clBlack;
    TPenStyle penStyle_ = TPenStyle::Solid;
};

// A picture at the control's corner; drawing into Picture() and repainting shows the change.
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);
    ~TImage() override;
    std::string ClassName() const override { return "TImage"; }

    TBitmap& Picture() { return *picture_; }
    const TBitmap& Picture() const { return *picture_; }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    // Call after changing the picture: resizes (with AutoSize) and repaints.
    void PictureChanged();

    const TPropertyTable<TComponent>& StoredProperties() const override;

    // The stored form of a picture property: the graphic's class name, then its own data.
    static void LoadPictureData(TBitmap& picture, const core::LayoutBytes& data);
    static core::LayoutBytes PictureData(const TBitmap& picture);

protected:
    void Paint() override;

private:
    // The picture's size on the screen: each of its pixels a PixelScale() square.
    int ShownWidth() const { return picture_->Width() * pixelScale_; }
    int ShownHeight() const { return picture_->Height() * pixelScale_; }
    std::unique_ptr<TBitmap> picture_;
    bool autoSize_ = false;
};

}  // namespace forms
