#include "FormModel.h"

#include "IniFile.h"

namespace {
QString section()
{
    return QStringLiteral("Formulario");
}

QString key()
{
    return QStringLiteral("Padrão");
}
} // namespace

QString FormModels::caption(FormModel model)
{
    return model == FormModel::Small
               ? QStringLiteral("Modelo 80.074 de 3 vias ou 80.075 de 4 vias - Formulário Pequeno")
               : QStringLiteral("Modelo 80.071 de 3 vias ou 80.072 de 4 vias - Fomulário Grande");
}

FormModel FormModels::saved()
{
    const QString value = KvSettings::file().readString(section(), key(), QString());
    return value == caption(FormModel::Small) ? FormModel::Small : FormModel::Large;
}

void FormModels::save(FormModel model)
{
    KvSettings::file().writeString(section(), key(), caption(model));
}
