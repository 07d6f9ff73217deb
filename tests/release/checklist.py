"""The release checks' report: one line a check, and how many of them failed."""

failures = 0


def check(what, ok, detail=""):
    global failures
    print(("ok: " if ok else "FAILED: ") + what + ("" if ok or not detail else f" ({detail})"))
    failures += 0 if ok else 1
