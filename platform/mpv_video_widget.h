#pragma once

#include <memory>

#include <QOpenGLWidget>

struct mpv_handle;
struct mpv_render_context;

namespace vantelo {

// Draws mpv's picture through its OpenGL render API. The render context is
// made when the widget's GL context first exists (initializeGL) and freed when
// that GL context goes, or before the mpv handle does.
class MpvVideoWidget final : public QOpenGLWidget {
    Q_OBJECT
public:
    MpvVideoWidget(mpv_handle* mpv, QWidget* parent);
    ~MpvVideoWidget() override;

    bool hasRenderContext() const { return m_renderContext != nullptr; }
    // Must run before the mpv handle is destroyed.
    void ReleaseRenderContext();

signals:
    void renderContextReady();
    void renderContextFailed();
    void doubleClicked();

protected:
    void initializeGL() override;
    void paintGL() override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    static void OnRenderUpdate(void* context);

    struct RenderContextDeleter {
        void operator()(mpv_render_context* context) const;
    };

    mpv_handle* m_mpv;
    std::unique_ptr<mpv_render_context, RenderContextDeleter> m_renderContext;
};

}  // namespace vantelo
