#!/usr/bin/env python3
"""Writes the C++ table of a translation file (Qt Linguist's .ts) for the
Qt-free core, sorted by source text; fails, naming them, when a text has no
finished translation, so that no release ships a text untranslated.

usage: catalogue.py TS_FILE OUTPUT_CPP FUNCTION
"""
import sys
import xml.etree.ElementTree as ElementTree


def literal(text):
    out = ['"']
    for byte in text.encode('utf-8'):
        if byte in (0x22, 0x5C):
            out.append('\\' + chr(byte))
        elif 0x20 <= byte < 0x7F and byte != 0x3F:  # '?' would risk trigraphs
            out.append(chr(byte))
        else:
            out.append('\\%03o' % byte)
    out.append('"')
    return ''.join(out)


def main():
    ts_file, output, function = sys.argv[1], sys.argv[2], sys.argv[3]
    entries = {}
    unfinished = []
    for message in ElementTree.parse(ts_file).getroot().iter('message'):
        source = message.findtext('source') or ''
        translation = message.find('translation')
        kind = translation.get('type', '') if translation is not None else 'unfinished'
        if kind in ('vanished', 'obsolete'):
            continue
        text = translation.text if translation is not None else None
        if kind == 'unfinished' or not text:
            unfinished.append(source)
            continue
        entries.setdefault(source, text)
    if unfinished:
        sys.stderr.write('%s: %d text(s) without a finished translation:\n' %
                         (ts_file, len(unfinished)))
        for source in unfinished:
            sys.stderr.write('  %s\n' % source)
        return 1
    rows = sorted(entries.items(), key=lambda item: item[0].encode('utf-8'))
    with open(output, 'w', encoding='ascii') as out:
        out.write('// Generated from %s by cmake/catalogue.py; do not edit.\n'
                  % ts_file.split('/')[-1])
        out.write('#include <span>\n#include <string_view>\n\n')
        out.write('namespace vellarion {\n\n')
        out.write('struct CatalogueEntry {\n    std::string_view source;\n'
                  '    std::string_view translation;\n};\n\n')
        out.write('namespace {\nconstexpr CatalogueEntry kEntries[] = {\n')
        for source, text in rows:
            out.write('    {%s, %s},\n' % (literal(source), literal(text)))
        if not rows:
            out.write('    {"", ""},\n')
        out.write('};\n} // namespace\n\n')
        out.write('std::span<const CatalogueEntry> %s() {\n' % function)
        out.write('    return std::span<const CatalogueEntry>(kEntries).first(%d);\n}\n\n'
                  % len(rows))
        out.write('} // namespace vellarion\n')
    return 0


if __name__ == '__main__':
    sys.exit(main())
