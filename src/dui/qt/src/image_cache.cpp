#include "image_cache.h"

#include <array>

#include <QFile>
#include <QSvgRenderer>

#include "quellix/dui/resource_manager.h"

namespace quellix::dui::qt {

struct ImageCache::Entry {
    bool loaded = false;
    QImage raster;                                  // raster files
    std::unique_ptr<QSvgRenderer> svg;              // vector files
    std::map<std::pair<int, int>, QImage> rendered; // SVG renderings by size
    // Raster parts drawn at another size, scaled once: a smooth scale on
    // every paint would redo the whole picture however small the repainted
    // area is (the previews repaint many times a second).
    std::map<std::array<int, 6>, QImage> scaled;
};

namespace {

QRect toQRect(const RECT& rc) {
    return QRect(QPoint(rc.left, rc.top), QPoint(rc.right - 1, rc.bottom - 1));
}

bool isSvg(const std::string& file) {
    return file.size() > 4 && EqualsNoCase(std::string_view(file).substr(file.size() - 4), ".svg");
}

// Nine-patch: corners keep their size, edges stretch one way, the middle both.
void drawNinePatch(QPainter& painter, const QImage& image, const QRect& src, const QRect& dst,
                   const RECT& corner) {
    const int sl = corner.left, st = corner.top, sr = corner.right, sb = corner.bottom;
    const int sx[4] = {src.left(), src.left() + sl, src.right() + 1 - sr, src.right() + 1};
    const int sy[4] = {src.top(), src.top() + st, src.bottom() + 1 - sb, src.bottom() + 1};
    const int dx[4] = {dst.left(), dst.left() + sl, dst.right() + 1 - sr, dst.right() + 1};
    const int dy[4] = {dst.top(), dst.top() + st, dst.bottom() + 1 - sb, dst.bottom() + 1};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const QRect s(QPoint(sx[col], sy[row]), QPoint(sx[col + 1] - 1, sy[row + 1] - 1));
            const QRect d(QPoint(dx[col], dy[row]), QPoint(dx[col + 1] - 1, dy[row + 1] - 1));
            if (s.isValid() && d.isValid()) {
                painter.drawImage(d, image, s);
            }
        }
    }
}

} // namespace

ImageCache::ImageCache() = default;
ImageCache::~ImageCache() = default;

void ImageCache::Clear() {
    entries_.clear();
    parsed_.clear();
}

ImageCache::Entry* ImageCache::Find(const std::string& file) {
    auto& slot = entries_[file];
    if (!slot) {
        slot = std::make_unique<Entry>();
        const QString path =
            QString::fromStdString(CResourceManager::GetInstance()->ResolveFile(file).string());
        if (isSvg(file)) {
            auto renderer = std::make_unique<QSvgRenderer>(path);
            if (renderer->isValid()) {
                slot->svg = std::move(renderer);
                slot->loaded = true;
            }
        } else {
            slot->loaded = slot->raster.load(path);
            if (slot->loaded) {
                slot->raster = slot->raster.convertToFormat(QImage::Format_ARGB32_Premultiplied);
            }
        }
    }
    return slot->loaded ? slot.get() : nullptr;
}

QImage ImageCache::Load(const std::string& file, QSize size) {
    Entry* entry = Find(file);
    if (entry == nullptr) {
        return {};
    }
    if (!entry->svg) {
        return entry->raster;
    }
    if (!size.isValid() || size.isEmpty()) {
        size = entry->svg->defaultSize();
    }
    auto& image = entry->rendered[{size.width(), size.height()}];
    if (image.isNull()) {
        image = QImage(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter svgPainter(&image);
        svgPainter.setRenderHint(QPainter::Antialiasing);
        entry->svg->render(&svgPainter);
    }
    return image;
}

const QImage& ImageCache::ScaledPart(const std::string& file, const QImage& picture,
                                     const QRect& source, QSize size) {
    // A window resized many times would otherwise keep every size it had.
    constexpr std::size_t kMaxSizesPerImage = 8;
    auto& scaled = Find(file)->scaled;
    const std::array<int, 6> key{source.x(),      source.y(),   source.width(),
                                 source.height(), size.width(), size.height()};
    auto it = scaled.find(key);
    if (it == scaled.end()) {
        if (scaled.size() >= kMaxSizesPerImage) {
            scaled.clear();
        }
        it = scaled
                 .emplace(key, picture.copy(source).scaled(size, Qt::IgnoreAspectRatio,
                                                           Qt::SmoothTransformation))
                 .first;
    }
    return it->second;
}

bool ImageCache::Draw(QPainter& painter, const std::string& description, const QRect& dest) {
    if (description.empty()) {
        return false;
    }
    auto it = parsed_.find(description);
    if (it == parsed_.end()) {
        ImageDescription image;
        try {
            image = ParseImageDescription(description);
        } catch (const ParseError&) {
            image = {}; // drawn as nothing, remembered so it is parsed once
        }
        it = parsed_.emplace(description, image).first;
    }
    return Draw(painter, it->second, dest);
}

bool ImageCache::Draw(QPainter& painter, const ImageDescription& image, const QRect& dest) {
    if (image.empty() || dest.isEmpty()) {
        return false;
    }
    QRect target = dest;
    if (!image.dest.empty()) {
        target = toQRect(image.dest).translated(dest.topLeft());
    }
    const bool scalable = Find(image.file) != nullptr && Find(image.file)->svg != nullptr;
    // An SVG without a source part is rendered at the target size, sharp.
    const QImage picture =
        scalable && image.source.empty() ? Load(image.file, target.size()) : Load(image.file);
    if (picture.isNull()) {
        return false;
    }
    QRect source = picture.rect();
    if (!image.source.empty()) {
        source = toQRect(image.source).intersected(picture.rect());
    }
    painter.save();
    painter.setOpacity(painter.opacity() * image.fade / 255.0);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const RECT& c = image.corner;
    if (c.left || c.top || c.right || c.bottom) {
        drawNinePatch(painter, picture, source, target, c);
    } else if (image.xtiled || image.ytiled) {
        const QImage tile = picture.copy(source);
        const QSize size(image.xtiled ? tile.width() : target.width(),
                         image.ytiled ? tile.height() : target.height());
        painter.setClipRect(target, Qt::IntersectClip);
        for (int y = target.top(); y <= target.bottom(); y += size.height()) {
            for (int x = target.left(); x <= target.right(); x += size.width()) {
                painter.drawImage(QRect(QPoint(x, y), size), tile);
            }
        }
    } else if (source.size() != target.size() && !scalable) {
        painter.drawImage(target.topLeft(), ScaledPart(image.file, picture, source, target.size()));
    } else {
        painter.drawImage(target, picture, source);
    }
    painter.restore();
    return true;
}

} // namespace quellix::dui::qt
