#!/usr/bin/env python3
"""Fails when a script or a test starts a program that scripts/install-dependencies.sh does not
install, unless the call site treats it as optional.

What counts as started: in Python, an argv list given to subprocess (or to a helper of ours that
hands its first argument on to subprocess); in shell (parsed by shfmt), every command, looking
through sudo, env, exec, timeout, dbus-run-session and `bash -c`. Optional: in Python, a program
the same function asks shutil.which() for; in shell, one the script asks `command -v` for.
Provided: dpkg says the program's file belongs to a listed package, to a package these depend on
as installed here, or to an essential or required package, which every Debian system has.
Usage: check-programs.py [file ...]   (default: every script under scripts/ and tests/)
"""

import ast
import json
import pathlib
import re
import shutil
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
SUBPROCESS_LAUNCHERS = {"run", "Popen", "call", "check_call", "check_output"}
SHELL_BUILTINS = {
    ".", ":", "[", "break", "cd", "continue", "declare", "echo", "eval", "exit", "export", "false", "getopts",
    "kill", "local", "mapfile", "printf", "pwd", "read", "readonly", "return", "set", "shift", "source", "test",
    "trap", "true", "type", "ulimit", "umask", "unset", "wait",
}
SHELLS = {"bash", "sh"}


class Use:
    def __init__(self, program, where, optional):
        self.program, self.where, self.optional = program, where, optional


# Python ----------------------------------------------------------------------------------------

def _callee_name(call):
    return call.func.attr if isinstance(call.func, ast.Attribute) else getattr(call.func, "id", None)


def _is_subprocess_call(call):
    func = call.func
    return (isinstance(func, ast.Attribute) and func.attr in SUBPROCESS_LAUNCHERS
            and getattr(func.value, "id", None) == "subprocess")


def _argv_helpers(trees):
    """Names of our functions whose first parameter becomes the argv of a launcher."""
    functions = [node for tree in trees for node in ast.walk(tree) if isinstance(node, ast.FunctionDef)]
    helpers, grown = set(), True
    while grown:
        grown = False
        for function in functions:
            parameters = [a.arg for a in function.args.args if a.arg != "self"]
            if function.name in helpers or not parameters:
                continue
            for call in (n for n in ast.walk(function) if isinstance(n, ast.Call) and n.args):
                launches = _is_subprocess_call(call) or _callee_name(call) in helpers
                if launches and getattr(call.args[0], "id", None) == parameters[0]:
                    helpers.add(function.name)
                    grown = True
                    break
    return helpers


def _which_names(node):
    return {c.args[0].value for c in ast.walk(node)
            if isinstance(c, ast.Call) and _callee_name(c) == "which" and c.args
            and isinstance(c.args[0], ast.Constant) and isinstance(c.args[0].value, str)}


def python_uses(path, tree, helpers):
    uses = []

    def visit(node, optional):
        if isinstance(node, (ast.FunctionDef, ast.ClassDef)):
            optional = optional | _which_names(node)
        if isinstance(node, ast.Call) and node.args and (_is_subprocess_call(node) or _callee_name(node) in helpers):
            argv = node.args[0]
            if isinstance(argv, (ast.List, ast.Tuple)) and argv.elts and isinstance(argv.elts[0], ast.Constant):
                program = argv.elts[0].value
                uses.append(Use(program, f"{path.relative_to(ROOT)}:{node.lineno}", program in optional))
        for child in ast.iter_child_nodes(node):
            visit(child, optional)

    visit(tree, frozenset())
    return uses


# Shell -----------------------------------------------------------------------------------------

def _literal(word):
    """The word's text when it has no expansion in it, else None."""
    text = []
    for part in word.get("Parts", []):
        if part["Type"] == "Lit":
            text.append(part["Value"])
        elif part["Type"] == "SglQuoted":
            text.append(part["Value"])
        elif part["Type"] == "DblQuoted" and all(p["Type"] == "Lit" for p in part.get("Parts", [])):
            text.extend(p["Value"] for p in part.get("Parts", []))
        else:
            return None
    return "".join(text)


def _sole_expansion(word):
    """The word's one parameter expansion, quoted or not, else None."""
    parts = word.get("Parts", [])
    inner = parts[0].get("Parts", []) if len(parts) == 1 and parts[0]["Type"] == "DblQuoted" else parts
    return inner[0] if len(inner) == 1 and inner[0]["Type"] == "ParamExp" else None


def _variable(word):
    """"$name" for a word that is just one variable, else None."""
    expansion = _sole_expansion(word)
    return "$" + expansion["Param"]["Value"] if expansion else None


def _is_array_expansion(word):
    """"${prefix[@]}", which may expand to nothing (as `sudo` or nothing does)."""
    expansion = _sole_expansion(word)
    return expansion is not None and "Index" in expansion


def _command(words):
    """The program a simple command starts, looking through prefixes: (name, arguments) or None."""
    while words:
        if _is_array_expansion(words[0]):
            words = words[1:]
            continue
        name, rest = _literal(words[0]), words[1:]
        if name in ("sudo", "exec", "nice"):
            words = rest
        elif name in ("env", "timeout"):
            while rest and re.match(r"-|\w+=", _literal(rest[0]) or ""):
                rest = rest[1:]
            words = rest[1:] if name == "timeout" else rest
        else:
            return (name, rest) if name is not None else None
    return None


def _wrapped(name, arguments):
    """The command that dbus-run-session runs after its `--`."""
    texts = [_literal(w) for w in arguments]
    return arguments[texts.index("--") + 1:] if name == "dbus-run-session" and "--" in texts else []


def _parse_shell(source):
    parsed = subprocess.run(["shfmt", "--tojson"], input=source, capture_output=True, text=True, check=True)
    return json.loads(parsed.stdout)


def shell_uses(path, source, line_offset=0):
    tree = _parse_shell(source)
    functions, calls, guarded, loops = set(), [], set(), {}

    def walk(node):
        if isinstance(node, dict):
            if node.get("Type") == "FuncDecl":
                functions.add(node["Name"]["Value"])
            if node.get("Type") == "WordIter":
                loops["$" + node["Name"]["Value"]] = [_literal(w) for w in node.get("Items", [])]
            if node.get("Type") == "CallExpr" and node.get("Args"):
                calls.append(node["Args"])
            for value in node.values():
                walk(value)
        elif isinstance(node, list):
            for value in node:
                walk(value)

    walk(tree)
    uses = []
    for args in calls:
        line = args[0]["Pos"]["Line"] + line_offset
        while found := _command(args):
            name, rest = found
            if name == "command" and rest and _literal(rest[0]) == "-v":
                for word in rest[1:]:
                    # `for tool in a b; do command -v "$tool"` asks for a and b.
                    guarded.update(loops.get(_variable(word), [_literal(word)]))
                break
            if name in SHELL_BUILTINS or name in functions or "/" in name:
                break
            uses.append(Use(name, f"{path.relative_to(ROOT)}:{line}", False))
            if name in SHELLS and len(rest) >= 2 and _literal(rest[0]) == "-c" and _literal(rest[1]) is not None:
                uses.extend(shell_uses(path, _literal(rest[1]), line - 1))
            args = _wrapped(name, rest)
    for use in uses:
        use.optional = use.optional or use.program in guarded
    return uses


# Packages --------------------------------------------------------------------------------------

def listed_packages():
    output = subprocess.run([str(ROOT / "scripts" / "install-dependencies.sh"), "--list"], capture_output=True,
                            text=True, check=True).stdout
    return set(output.split())


def _names(relations):
    """Package names of a Depends field, each alternative counted."""
    return [re.sub(r"[\s(:].*", "", alternative.strip()) for relation in relations.split(",") if relation.strip()
            for alternative in relation.split("|")]


def provided_packages(listed):
    """The listed packages, what they depend on as installed here, and the essential and required."""
    fields = "${Package}\t${Status}\t${Essential}\t${Priority}\t${Provides}\t${Pre-Depends}, ${Depends}\n"
    rows = subprocess.run(["dpkg-query", "-W", "-f", fields], capture_output=True, text=True, check=True).stdout
    installed, providers, base = {}, {}, set()
    for row in rows.splitlines():
        package, status, essential, priority, provides, depends = row.split("\t")
        if not status.endswith("installed") or "not-installed" in status or "config-files" in status:
            continue
        installed[package] = _names(depends)
        for virtual in _names(provides):
            providers.setdefault(virtual, set()).add(package)
        if essential == "yes" or priority == "required":
            base.add(package)
    closure, pending = set(), [p for p in listed | base if p in installed]
    while pending:
        package = pending.pop()
        if package in closure:
            continue
        closure.add(package)
        for name in installed[package]:
            pending.extend(p for p in {name} | providers.get(name, set()) if p in installed)
    return closure


def owners(program):
    """Installed packages that ship the program, through the alternatives system where needed."""
    paths = [f"{folder}/{program}" for folder in ("/usr/bin", "/bin", "/usr/sbin", "/sbin")]
    if shutil.which("update-alternatives"):
        alternatives = subprocess.run(["update-alternatives", "--list", program], capture_output=True, text=True)
        paths += alternatives.stdout.split()
    output = subprocess.run(["dpkg-query", "-S", *paths], capture_output=True, text=True).stdout
    return {package.strip().split(":")[0] for line in output.splitlines() if not line.startswith("diversion")
            for package in line.split(": ")[0].split(",")}


def candidates(program):
    """Debian packages that would provide a program no installed package has; needs apt-file."""
    if not shutil.which("apt-file"):
        return f"unknown here (`apt-file search bin/{program}` tells)"
    output = subprocess.run(["apt-file", "search", "--regexp", f"^/(usr/)?s?bin/{re.escape(program)}$"],
                            capture_output=True, text=True).stdout
    return ", ".join(sorted({line.split(":")[0] for line in output.splitlines()})) or "none known"


# ------------------------------------------------------------------------------------------------

def sources(arguments):
    if arguments:
        return [pathlib.Path(a).resolve() for a in arguments]
    found = [p for folder in ("scripts", "tests") for p in (ROOT / folder).rglob("*") if p.suffix in (".py", ".sh")]
    return sorted(found)


def main(arguments):
    files = sources(arguments)
    trees = {path: ast.parse(path.read_text(), str(path)) for path in files if path.suffix == ".py"}
    helpers = _argv_helpers(trees.values())
    uses = []
    for path in files:
        uses += python_uses(path, trees[path], helpers) if path in trees else shell_uses(path, path.read_text())

    provided = provided_packages(listed_packages())
    required = sorted({u.program for u in uses if not u.optional})
    missing = []
    for program in required:
        shipped_by = owners(program)
        if not shipped_by & provided:
            sites = ", ".join(u.where for u in uses if u.program == program and not u.optional)
            package = ", ".join(sorted(shipped_by)) if shipped_by else candidates(program)
            missing.append(f"  {program}: started at {sites}; provided by {package}")
    if missing:
        print("Programs that the scripts and tests start but scripts/install-dependencies.sh does not install\n"
              "(add the package to its list, or ask shutil.which / command -v for the program where it is optional):",
              *missing, sep="\n", file=sys.stderr)
        return 1
    optional = sorted({u.program for u in uses if u.optional} - set(required))
    print(f"programs: the {len(required)} that scripts and tests start are installed by install-dependencies.sh"
          f" (optional where used: {', '.join(optional) or 'none'})")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
