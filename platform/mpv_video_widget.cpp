#include "platform/mpv_video_widget.h"

#include <mpv/render_gl.h>

#include <QMetaObject>
#include <QMouseEvent>
#include <QOpenGLContext>

namespace vantelo {
namespace {

void* GetProcAddress(void*, const char* name)
{
    QOpenGLContext* context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void*>(context->getProcAddress(name)) : nullptr;
}

}  // namespace

void MpvVideoWidget::RenderContextDeleter::operator()(mpv_render_context* context) const
{
    mpv_render_context_free(context);
}

MpvVideoWidget::MpvVideoWidget(mpv_handle* mpv, QWidget* parent) : QOpenGLWidget(parent), m_mpv(mpv)
{
    setMinimumSize(1, 1);
}

MpvVideoWidget::~MpvVideoWidget()
{
    // QOpenGLWidget's own destructor destroys the GL context after this one has
    // run; its aboutToBeDestroyed signal must not reach this half-gone object.
    if (QOpenGLContext* glContext = context())
        disconnect(glContext, nullptr, this, nullptr);
    ReleaseRenderContext();
}

void MpvVideoWidget::ReleaseRenderContext()
{
    if (!m_renderContext)
        return;
    // Clear the callback first: mpv must not call into a widget that is going.
    mpv_render_context_set_update_callback(m_renderContext.get(), nullptr, nullptr);
    makeCurrent();
    m_renderContext.reset();
    doneCurrent();
}

void MpvVideoWidget::initializeGL()
{
    // initializeGL runs again when the widget gets a new GL context (for example
    // after a change of its top-level window); mpv allows one render context.
    ReleaseRenderContext();

    mpv_opengl_init_params glInit{GetProcAddress, nullptr};
    int advancedControl = 0;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL)},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &glInit},
        {MPV_RENDER_PARAM_ADVANCED_CONTROL, &advancedControl},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    mpv_render_context* created = nullptr;
    if (mpv_render_context_create(&created, m_mpv, params) < 0) {
        emit renderContextFailed();
        return;
    }
    m_renderContext.reset(created);
    mpv_render_context_set_update_callback(m_renderContext.get(), &MpvVideoWidget::OnRenderUpdate, this);
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &MpvVideoWidget::ReleaseRenderContext,
            Qt::UniqueConnection);
    emit renderContextReady();
}

void MpvVideoWidget::paintGL()
{
    if (!m_renderContext)
        return;
    const qreal ratio = devicePixelRatioF();
    mpv_opengl_fbo fbo{static_cast<int>(defaultFramebufferObject()), static_cast<int>(width() * ratio),
                       static_cast<int>(height() * ratio), 0};
    int flipY = 1;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
        {MPV_RENDER_PARAM_FLIP_Y, &flipY},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    mpv_render_context_render(m_renderContext.get(), params);
}

void MpvVideoWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QOpenGLWidget::mouseDoubleClickEvent(event);
}

// Runs on one of mpv's threads: only queue a repaint on the GUI thread.
void MpvVideoWidget::OnRenderUpdate(void* context)
{
    auto* widget = static_cast<MpvVideoWidget*>(context);
    QMetaObject::invokeMethod(widget, qOverload<>(&QWidget::update), Qt::QueuedConnection);
}

}  // namespace vantelo
