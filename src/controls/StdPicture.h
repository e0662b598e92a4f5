#pragma once

#include <QByteArray>
#include <QImage>

// A picture property: the image file as stored and its image; icon files are icons, others bitmaps.
struct StdPicture {
    enum Kind { None = 0, Bitmap = 1, Icon = 3 };

    int Type = None;
    QByteArray Data;
    QImage Image;

    bool isNull() const { return Type == None; }
    int Width() const { return Image.width(); }
    int Height() const { return Image.height(); }
    bool operator==(const StdPicture &other) const { return Type == other.Type && Data == other.Data; }

    static StdPicture FromData(const QByteArray &data);
};
