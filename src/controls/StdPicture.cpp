#include "controls/StdPicture.h"

#include <QBuffer>
#include <QImageReader>

StdPicture StdPicture::FromData(const QByteArray &data)
{
    StdPicture picture;
    if (data.isEmpty())
        return picture;
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    QImage image = reader.read();
    if (image.isNull())
        return picture;
    picture.Type = format == "ico" || format == "cur" ? Icon : Bitmap;
    picture.Data = data;
    picture.Image = image.convertToFormat(QImage::Format_ARGB32);
    return picture;
}
