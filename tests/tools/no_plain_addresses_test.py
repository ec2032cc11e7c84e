"""No stream address of the catalogue may be readable in a built binary."""
import csv
import sys

catalogue_path, binaries = sys.argv[1], sys.argv[2:]
with open(catalogue_path, encoding="utf-8", newline="") as f:
    urls = {row["url"] for row in csv.DictReader(f, delimiter="\t", quoting=csv.QUOTE_NONE)}

found = []
for binary in binaries:
    with open(binary, "rb") as f:
        content = f.read()
    for url in urls:
        encoded = url.encode("utf-8")
        # The host and path without the scheme, in UTF-8 and in UTF-16.
        for needle in (encoded.split(b"://", 1)[-1], url.split("://", 1)[-1].encode("utf-16-le")):
            if needle in content:
                found.append(f"{binary}: {url}")
                break
for line in found[:20]:
    print(line)
print(f"checked {len(urls)} addresses in {len(binaries)} binaries; {len(found)} found in plain text")
sys.exit(1 if found else 0)
