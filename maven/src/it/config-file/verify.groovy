// The file's settings reach the launcher (its splash image found beside the file), the
// plugin adds what the file leaves out, and a setting that takes the place of one of the
// plugin's is reported, as are the tool's warnings.
def exe = new File(basedir, 'target/config-file-2.5.exe')
def inspect = [kestroTool, 'inspect', exe.path].execute()
def report = inspect.text
assert inspect.waitFor() == 0
assert report.contains('"-Xmx256m \\"-Dsample.title=Configured by file\\""')
assert report =~ /10 RT_RCDATA\s+10000\s+1033\s+\d+ bytes/
assert report.contains('version 2.5.0.0, ProductName "Configured Sample"')
assert report =~ /(?m)^  config-file-2\.5\.jar /

def toml = new File(basedir, 'src/main/kestro/app.toml').path
def log = new File(basedir, 'build.log').text
def defaults = new File(basedir, 'target/kestro/config-file-2.5-defaults.toml').path
assert log.contains("[WARNING] ${toml}:3: warning: application.main_class = \"org.example.hello.Main\" wins over"
        + " application.main_class = \"org.example.hello.Start\" of ${defaults}:4")
assert report.contains('application.main_class               "org.example.hello.Main"')
// The tool's warning, as a Maven warning about the user's line.
assert log.contains("[WARNING] ${toml}:13: warning: redirect.stdout_file has no effect unless redirect.stdout = true")
