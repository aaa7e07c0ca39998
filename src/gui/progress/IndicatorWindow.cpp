#include "IndicatorWindow.h"

#include "IndicatorForm.h"
#include "core/progress/Progress.h"
#include "gui/window/WorkArea.h"

IndicatorWindow::IndicatorWindow() = default;

IndicatorWindow::~IndicatorWindow()
{
    delete form_.data();
}

bool IndicatorWindow::IsLoaded() const
{
    return !form_.isNull();
}

void IndicatorWindow::Load()
{
    if (form_)
        return;
    form_ = new IndicatorForm;
    connect(form_.data(), &IndicatorForm::closedByUser, this, &IndicatorWindow::OnUserClosed);
    CenterOnWorkArea(form_);
}

void IndicatorWindow::Show()
{
    Load();
    form_->show();
}

void IndicatorWindow::Unload()
{
    delete form_.data();
    form_ = nullptr;
}

void IndicatorWindow::OnUserClosed()
{
    // We are inside the window's own close handling: let it finish first.
    IndicatorForm* closing = form_.data();
    form_ = nullptr;
    if (closing) {
        closing->disconnect(this);
        closing->deleteLater();
    }
    ReportUserStop();
}

void IndicatorWindow::SetMessage(const QString& text)
{
    Load();
    form_->SetMessage(text);
}

void IndicatorWindow::SetCounterText(const QString& text)
{
    Load();
    form_->L1->setText(text);
}

void IndicatorWindow::SetPercentText(const QString& text)
{
    Load();
    form_->Percent->setText(text);
}

void IndicatorWindow::SetTimesText(const QString& text)
{
    Load();
    form_->L2->setText(text);
}

void IndicatorWindow::ClearBar()
{
    Load();
    form_->Pic->Clear();
}

void IndicatorWindow::PaintBar(double fraction)
{
    Load();
    form_->Pic->PaintUpTo(fraction);
}
