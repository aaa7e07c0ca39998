#include "CourierSheetDialog.h"

#include "core/base/Logging.h"
#include "core/settings/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

std::optional<CourierRequest> AskCourierChoices(Settings& settings, QWidget* parent)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("导出快递导入表"));
    auto* form = new QFormLayout(&dialog);
    auto* templates = new QComboBox(&dialog);
    templates->setObjectName(QStringLiteral("courierTemplate"));
    templates->addItems(CourierTemplateNames());
    const QString chosen = settings.CourierTemplateName();
    templates->setCurrentIndex(std::max(0, templates->findText(chosen)));
    form->addRow(QStringLiteral("模板："), templates);
    auto* name = new QLineEdit(settings.SenderName(), &dialog);
    name->setObjectName(QStringLiteral("senderName"));
    auto* phone = new QLineEdit(settings.SenderPhone(), &dialog);
    phone->setObjectName(QStringLiteral("senderPhone"));
    auto* address = new QLineEdit(settings.SenderAddress(), &dialog);
    address->setObjectName(QStringLiteral("senderAddress"));
    address->setPlaceholderText(QStringLiteral("省 市 区 详细地址"));
    form->addRow(QStringLiteral("寄件人："), name);
    form->addRow(QStringLiteral("寄件人电话："), phone);
    form->addRow(QStringLiteral("寄件人地址："), address);
    auto* toCheck = new QCheckBox(QStringLiteral("包括地址需核对的包裹"), &dialog);
    toCheck->setObjectName(QStringLiteral("includeToCheck"));
    form->addRow(toCheck);
    auto* folder
        = new QLabel(QStringLiteral("自己的模板：%1/模板名.txt").arg(CourierTemplateFolder()), &dialog);
    folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(folder);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;

    CourierRequest request;
    request.templateName = templates->currentText();
    request.sender = { name->text().trimmed(), phone->text().trimmed(), address->text().trimmed() };
    request.choices.includeToCheck = toCheck->isChecked();
    if (!settings.StoreCourierTemplateName(request.templateName)
        || !settings.StoreSender(request.sender.name, request.sender.phone, request.sender.address))
        qCWarning(lcSettings) << "the courier sheet's choices were not stored";
    return request;
}
