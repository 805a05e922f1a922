#pragma once
// Images of the skin, loaded once: PNG (and other raster formats) as
// images, SVG rendered at the size it is drawn.

#include <QImage>
#include <QPainter>
#include <QRect>
#include <map>
#include <memory>
#include <string>

#include "quellix/dui/image_desc.h"

class QSvgRenderer;

namespace quellix::dui::qt {

class ImageCache {
public:
    ImageCache();
    ~ImageCache();

    // Draws an image description into `dest` (the control's rectangle; the
    // description's own "dest" is relative to it), applying source, corner
    // (nine-patch), fade and tiling.  False when the file cannot be loaded
    // or the description is malformed.
    bool Draw(QPainter& painter, const std::string& description, const QRect& dest);
    bool Draw(QPainter& painter, const ImageDescription& image, const QRect& dest);
    // The whole image at the size `size` (SVG rendered at it); null when
    // it cannot be loaded.
    QImage Load(const std::string& file, QSize size = {});
    void Clear();

private:
    struct Entry;
    Entry* Find(const std::string& file);
    // `source` of a loaded raster `file` scaled smoothly to `size`, kept.
    const QImage& ScaledPart(const std::string& file, const QImage& picture, const QRect& source,
                             QSize size);

    std::map<std::string, std::unique_ptr<Entry>> entries_;
    std::map<std::string, ImageDescription> parsed_;
};

} // namespace quellix::dui::qt
