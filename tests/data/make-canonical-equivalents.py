"""Writes canonical-equivalents.txt: texts in their composed (NFC) and
decomposed (NFD) forms, as Python's unicodedata makes them, one pair a line,
tab-separated. The search must fold both forms of each line alike."""
import pathlib
import unicodedata

texts = []
# Every composite of the scripts whose marks the search composes, the
# composition exclusions with them (their NFC is decomposed: the composite is
# written as it stands).
ranges = [(0x0400, 0x04FF), (0x0600, 0x06FF), (0x0900, 0x0DFF), (0x1000, 0x109F), (0x1B00, 0x1B7F),
          (0x3040, 0x30FF)]
for first, last in ranges:
    for code in range(first, last + 1):
        decomposition = unicodedata.decomposition(chr(code))
        if decomposition and not decomposition.startswith("<"):
            texts.append(chr(code))
# Hangul syllables with and without a final consonant, across the block.
texts += [chr(code) for code in range(0xAC00, 0xD7A4, 37)]
# Place names as an address book would hold them.
texts += ["서울특별시", "부산", "Київ", "Йошкар-Ола", "Хмельницький", "ガーナ", "ぎふ", "パリ", "ベオグラード",
          "أثينا", "إسطنبول", "آمل", "مؤتة", "சென்னை கொழும்பு", "കൊച്ചി", "ಬೆಂಗಳೂರು", "କୋଣାର୍କ", "বোলপুর"]

lines = []
for text in texts:
    composed = text if unicodedata.normalize("NFC", text) != text and len(text) == 1 else unicodedata.normalize("NFC", text)
    decomposed = unicodedata.normalize("NFD", text)
    if composed != decomposed:
        lines.append(f"{composed}\t{decomposed}\n")
out = pathlib.Path(__file__).with_name("canonical-equivalents.txt")
out.write_text("".join(lines), encoding="utf-8")
print(len(lines), "pairs")
